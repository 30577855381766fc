int nested;
