int connect_local(void)
{
    return open_connection(HOST, PORT);
}
