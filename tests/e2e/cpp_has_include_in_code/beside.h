int beside;
