int twice;
