char buf[MAX_LEN];
int y_2 = MAX_LENGTH; /* MAX_LEN */ "MAX_LEN" // MAX_LEN
x/*y*/y
L"x" L'y'
0x1F 10 x1F 100
#if MAX_LEN
 #if MAX_LEN
N_A+N_A-N_A
	no use here
