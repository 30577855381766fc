int found;
