#include "shell/QnApplication.h"
#include "shell/Startup.h"

int main(int argc, char** argv)
{
    TQnApplication app(argc, argv);
    Startup::setUpApplication(app);
    return Startup::run(app);
}
