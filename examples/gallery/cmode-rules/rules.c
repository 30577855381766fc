#define MIN(a, b)     ((a) < (b) ? (a) : (b))
#define INCREF(op)    INCREF(CAST(op))
#define CAST(op)      ((object *)(op))
#define REG(name)     REG_ ## name
#define REG_CTRL      0x40u
#define STR(x)        #x

int least = MIN(b, a);
INCREF(item);
write(REG(CTRL), STR(a  + "b"));
