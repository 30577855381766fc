#define PORT            8080
#define HOST            "localhost"
#define BACKLOG         16
