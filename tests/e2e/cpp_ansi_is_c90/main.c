#ifdef __STDC_VERSION__
long version = __STDC_VERSION__;
#else
long version = 0; /* C90 */
#endif
#ifdef __STRICT_ANSI__
int strict = __STRICT_ANSI__;
#endif
