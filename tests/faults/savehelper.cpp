// tavik_save_helper FILE: saves the two large histories of savecontent.h to
// FILE in turn, the way the program saves every file, until it is killed.
// Before each save it prints "saving N", after it "saved N".
#include "savecontent.h"

#include "base/textlines.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: tavik_save_helper FILE\n", stderr);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);
    TextLines histories[2] = {TextLines(TextLines::Unsorted), TextLines(TextLines::Unsorted)};
    histories[0].setLines(saveContent('A'));
    histories[1].setLines(saveContent('B'));
    for (long n = 0;; ++n) {
        std::printf("saving %ld\n", n);
        std::fflush(stdout);
        histories[(n + 1) % 2].saveToFile(file); // B first: the file holds A at the start
        std::printf("saved %ld\n", n);
        std::fflush(stdout);
    }
}
