// Compares two pictures pixel by pixel: prints the number of differing pixels and the
// rectangle that holds them; exit code 0 when the pictures are identical, 1 when not, 2 when
// one cannot be read or their sizes differ.
//
//   bench_png_diff OLD.png NEW.png

#include <QImage>
#include <QRect>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: bench_png_diff OLD.png NEW.png\n");
        return 2;
    }
    const QImage a = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage b = QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (a.isNull() || b.isNull() || a.size() != b.size()) {
        fprintf(stderr, "cannot compare %s and %s\n", argv[1], argv[2]);
        return 2;
    }
    long differing = 0;
    QRect where;
    for (int y = 0; y < a.height(); ++y) {
        const auto* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (ra[x] != rb[x]) {
                ++differing;
                where |= QRect(x, y, 1, 1);
            }
        }
    }
    printf("%ld differing pixels", differing);
    if (differing)
        printf(" in %dx%d at (%d, %d)", where.width(), where.height(), where.x(), where.y());
    printf("\n");
    return differing ? 1 : 0;
}
