#define LOG(fmt, ...) \
    fprintf(stderr, "%s:%d: " fmt "\n", __FILE__, __LINE__, ##__VA_ARGS__)

LOG("starting");
LOG("%d of %d done",
    done, total);
