#include "app/mainwindow/browserstartup.h"

int main(int argc, char *argv[])
{
    BrowserStartup::endProcess(BrowserStartup::run(argc, argv));
}
