// A program outside the project, built against the installed package: it
// runs a PXS expression into a host variable and reads the built-in MIM.
#include <pxs/pxs.h>

#include <cstdlib>
#include <iostream>

int main() {
    ZnPxsEnvironment pxs;
    int rate = 0;
    pxs.registerVar("rate", &rate);
    pxs.loadLispFileOrExpr("(setq rate (* 6 7))", 0);
    if (rate != 42) {
        std::cerr << "PXS did not set rate: " << rate << "\n";
        return EXIT_FAILURE;
    }
    ZnEnvironment tree;
    if (!tree.addObject("federate", "settings")) return EXIT_FAILURE;

    ZnFom fom;
    ZnFedReader1516e reader;
    if (reader.readFed("HLAstandardMIM.xml", &fom, 0, false, false) != ZnFedReadSuccess) {
        std::cerr << reader.lastError() << "\n";
        return EXIT_FAILURE;
    }
    if (fom.objectClasses().empty()) return EXIT_FAILURE;
    return EXIT_SUCCESS;
}
