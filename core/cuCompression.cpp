// zlib stream compression of cuUtils.
#include "cuUtils.h"

#include "cuClasses.h"

#include <zlib.h>

namespace {

// zlib counts in 32-bit units; larger arrays are fed and drained in pieces of this size at most.
constexpr qsizetype Piece = qsizetype(1) << 30;

uInt PieceOf(qsizetype remaining) { return uInt(qMin(remaining, Piece)); }

}  // namespace

void CompressStream(const QByteArray &source, QByteArray &target) {
  target.clear();
  if (source.isEmpty())
    return;
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK)
    throw EException(QStringLiteral("Cannot start the compression"));
  QByteArray out;
  out.resize(qsizetype(deflateBound(&z, uLong(source.size()))));
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(source.constData()));
  z.next_out = reinterpret_cast<Bytef *>(out.data());
  qsizetype inLeft = source.size(), outLeft = out.size();
  int status = Z_OK;
  while (status == Z_OK) {
    z.avail_in = PieceOf(inLeft);
    z.avail_out = PieceOf(outLeft);
    const uInt inGiven = z.avail_in, outGiven = z.avail_out;
    status = deflate(&z, inLeft == qsizetype(inGiven) ? Z_FINISH : Z_NO_FLUSH);
    inLeft -= inGiven - z.avail_in;
    outLeft -= outGiven - z.avail_out;
  }
  deflateEnd(&z);
  if (status != Z_STREAM_END)
    throw EException(QStringLiteral("Cannot compress the data"));
  out.resize(out.size() - outLeft);
  target = std::move(out);
}

void DecompressStream(const QByteArray &source, QByteArray &target, qsizetype limit) {
  target.clear();
  if (source.isEmpty())
    return;
  z_stream z{};
  if (inflateInit(&z) != Z_OK)
    throw EException(QStringLiteral("Cannot start the decompression"));
  QByteArray out;
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(source.constData()));
  qsizetype inLeft = source.size();
  int status = Z_OK;
  bool tooLarge = false;
  while (status == Z_OK) {
    // Output grows in steps of at least 64 KB, doubling, so that large images need few copies; one byte
    // of room beyond the limit tells a stream that would exceed it from one that ends exactly there.
    const qsizetype have = out.size();
    const qsizetype grow = qMin(qMax<qsizetype>(have, 64 * 1024), limit + 1 - have);
    out.resize(have + grow);
    z.next_out = reinterpret_cast<Bytef *>(out.data() + have);
    z.avail_out = PieceOf(grow);
    z.avail_in = PieceOf(inLeft);
    const uInt inGiven = z.avail_in, outGiven = z.avail_out;
    status = inflate(&z, Z_NO_FLUSH);
    inLeft -= inGiven - z.avail_in;
    out.resize(have + (outGiven - z.avail_out));
    if (out.size() > limit) {
      tooLarge = true;
      break;
    }
    // No progress with input still to give means the piece ran out; with none left the stream is cut short.
    if (status == Z_BUF_ERROR && inLeft > 0)
      status = Z_OK;
  }
  inflateEnd(&z);
  if (tooLarge)
    throw EException(QStringLiteral("The compressed data expands to more than %1 bytes").arg(limit));
  if (status == Z_MEM_ERROR)
    throw EException(QStringLiteral("Not enough memory to decompress the data"));
  if (status != Z_STREAM_END || inLeft != 0)
    throw EException(QStringLiteral("The compressed data is damaged"));
  target = std::move(out);
}
