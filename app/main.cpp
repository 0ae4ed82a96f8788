#include "app/mainwindow/browserstartup.h"

int main(int argc, char *argv[])
{
    return BrowserStartup::run(argc, argv);
}
