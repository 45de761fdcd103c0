// pension-1099 DATADIR --form R|INT [--year N] [--out DIR] [--accounts LIST]
#include "platform/cmdline.h"
#include "taxrun.h"

#include <QCoreApplication>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    CommandLine cl("pension-1099", "DATADIR --form R|INT [--year N] [--out DIR] [--accounts LIST]",
                   "Writes the 1099-R or 1099-INT file \"IRSTAX.\" and its XML transmission \"IRSTAX.xml\".");
    cl.setWordCount(1, 1);
    if (int rc = cl.handle(app.arguments().mid(1)); rc >= 0) return rc;
    return 1;
}
