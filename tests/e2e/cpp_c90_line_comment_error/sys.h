#pragma GCC system_header
// a system header may hold them
