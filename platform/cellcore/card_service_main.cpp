// handset-card-service --device DIR: the card service of one device folder. It leaves its first
// process at once, so that the program that started it need not wait for it, and lives on in a
// session of its own until the device's last program is gone.
#include "cellcore/card_service.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--device") != 0) {
        std::fprintf(stderr, "usage: handset-card-service --device DIR\n");
        return 2;
    }
    const pid_t child = fork();
    if (child < 0) {
        std::perror("handset-card-service: fork");
        return 1;
    }
    if (child > 0) {
        return 0;
    }
    setsid();
    return handset::run_card_service(argv[2]);
}
