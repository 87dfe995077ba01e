// The two themes the program ships: the built-in "LoomDefaultTheme" (light) and "Dark". Both share one image
// layout: the cut rectangles of the built-in values index into it, and the colour pixels that fonts and tints
// sample sit at fixed positions.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>

#include <vector>

namespace art {

// One tag of the theme info text: its name and its attributes exactly as written in the file.
struct ThemeTag {
  const char *tag;
  const char *attributes;
};

// The built-in values: the five font tags, then the skin tags (in the order the file lists them).
const std::vector<ThemeTag> &BuiltInFontTags();
const std::vector<ThemeTag> &BuiltInSkinTags();

// The value of attribute `name` in `tag` ("" when absent).
QString AttributeOf(const ThemeTag &tag, const char *name);
// Up to four comma-separated integers; missing items are 0.
std::vector<int> IntegersOf(const QString &value, int count = 4);
// The "Cut" of a tag as an image rectangle (the file's right and bottom are inclusive); null when absent.
QRect CutOf(const ThemeTag &tag);

enum class ThemeKind { Light, Dark };

// The theme image: 150 x 129 pixels (the least size that holds every cut), straight ARGB.
QImage DrawThemeImage(ThemeKind kind);
// The theme info text: CR LF line ends, TAB indentation, ASCII.
QByteArray ThemeInfoText(ThemeKind kind);

// The image size every cut of the built-in values fits in.
constexpr int kThemeWidth = 150;
constexpr int kThemeHeight = 129;

} // namespace art
