N before
x = EMPTY; N
never printed
