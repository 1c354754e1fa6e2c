#include "app/Application.h"

int main(int argc, char** argv) {
    zomi::Application app(argc, argv);
    return 0;
}
