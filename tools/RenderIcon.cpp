// render-icon <in.svg> <out.png> <size>: the program's icon as a square PNG
// of size x size pixels, for the window icon and the desktop's icon sizes.
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render-icon <in.svg> <out.png> <size>\n");
    return 2;
  }
  const int size = std::atoi(argv[3]);
  if (size <= 0 || size > 4096) {
    std::fprintf(stderr, "render-icon: bad size %s\n", argv[3]);
    return 2;
  }
  QSvgRenderer svg{QString::fromLocal8Bit(argv[1])};
  if (!svg.isValid()) {
    std::fprintf(stderr, "render-icon: cannot read %s\n", argv[1]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, size, size));
  }
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "render-icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
