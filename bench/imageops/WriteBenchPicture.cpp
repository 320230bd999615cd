// Writes the common benchmark picture as a PPM file, so that other libraries can be timed on
// the same pixels (bench/compare/opencv_reference.py):
//   write_bench_picture OUT.ppm
#include "BenchPicture.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm\n", argv[0]);
        return 2;
    }
    if (!benchpicture::writeSmoothNoisePpm(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
