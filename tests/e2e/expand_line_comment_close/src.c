// N */ N
N // N
/* open
// N */ N
/* a b
a b */ x = FOO;
