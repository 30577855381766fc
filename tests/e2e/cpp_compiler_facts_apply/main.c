#include <fake.h>
#if __has_attribute(known) && !__has_attribute(other) && defined __FAKE_CC__
int version = __FAKE_VERSION__ + FROM_SYSTEM_HEADER;
#endif
#ifdef __FAKE_GONE__
#error the command line undefined it
#endif
int added = __FAKE_ADDED__;
