// mirovanta-printers: lists the system's printers for the program, which runs it for the
// printer list it keeps up to date in the background. Asked there, the printing system's
// libraries (CUPS, and the TLS and Kerberos libraries it brings) would stay mapped in the
// program from the first document on, though most runs never print.
// Prints the default printer's name on the first line ("" when there is none), then one
// printer's name a line, in UTF-8; exits with 0.

#include <QCoreApplication>
#include <QPrinterInfo>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QByteArray out = QPrinterInfo::defaultPrinterName().toUtf8() + '\n';
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        out += name.toUtf8() + '\n';
    return std::fwrite(out.constData(), 1, size_t(out.size()), stdout) == size_t(out.size()) &&
                   std::fflush(stdout) == 0
               ? 0
               : 1;
}
