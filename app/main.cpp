#include "app/export_app.hpp"

// The one application object; it must exist before the program starts.
kelvara::CExportApp theApp;

int main(int argc, char** argv) {
    return kelvara::AfxWinMain(argc, argv);
}
