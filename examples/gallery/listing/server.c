int serve(int fd)
{
    return bind_port(fd, PORT) || listen(fd, BACKLOG);
}
