int n;
