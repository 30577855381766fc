#define Va 0123456789
#define Vb Va Va
#define Vc Vb Vb
#define Vd Vc Vc
#define Ve Vd Vd
#define Vf Ve Ve
#define Vg Vf Vf
#define Vh Vg Vg
#define Vi Vh Vh
#define Vj Vi Vi
#define Vk Vj Vj
#define Vl Vk Vk
#define Vm Vl Vl
#define Vz Va
