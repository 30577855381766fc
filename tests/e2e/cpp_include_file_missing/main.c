int kept = 1;
