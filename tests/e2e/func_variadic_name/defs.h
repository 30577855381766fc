#define LOG(fmt, ...) p(fmt, ...)
#define ALL(...) f(...)
