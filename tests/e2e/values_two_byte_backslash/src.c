j = J;
