??=define BAR(x) x ??! 1
int i = BAR(2) /* ??= a comment: no error */;
