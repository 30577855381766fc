#if X
#endif
#if 0 && Y
#endif
#if 1 || Z
#endif
#if +1
#endif
#assert machine(x86)
#if 1U
#endif
#if 1L
#endif
#if 'ab'
#endif
