#ident "v1" extra
#ident 3
#sccs "v2"
#assert machine(x86) more
#assert machine
#unassert machine junk
#unassert machine(x86)
#assert cpu(a(b)
#if 0
#else tail
#endif tail
