int total(const int *values, int count)
{
    return MAX(sum(values, count),
               LIMIT);
}
