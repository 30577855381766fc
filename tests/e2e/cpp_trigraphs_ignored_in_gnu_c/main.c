#define X "??(" /* ??= and ??< are not warned of in comments */
??=define X 2
X ???= // a line comment ending in a trigraph splice is ??/
X
/* as is a block comment ??/  
*/ X /* but not ??/\
*/
