before
x = NONE();
after
