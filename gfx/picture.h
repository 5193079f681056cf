// Picture files: PNG and JPEG through libpng and libjpeg, BMP and ICO through Qt's image classes
// (their headers checked first), MAG through our own codec (gfx/mag.h), and whatever else Qt's
// image plug-ins read. Formats are named by lower-case extension without the dot.
#pragma once

#include <QImage>
#include <string>
#include <string_view>
#include <vector>

#include "core/drawhost.h"
#include "gfx/mag.h"

namespace yume {

// Decodes bytes of a format. Unsupported when nothing reads the format; Failed (error says why)
// when the bytes are not a good picture of it.
TDrawStatus DecodePicture(std::string_view data, const std::string& ext, QImage& out,
                          std::string& error);
// Reads a file and decodes it by ext.
TDrawStatus LoadPictureFile(const std::string& sysPath, const std::string& ext, QImage& out,
                            std::string& error);
// Encodes a picture in a format (bmp, jpg/jpeg with quality 1-100, png, mag, ico).
TDrawStatus EncodePicture(const QImage& img, const std::string& ext, int quality, std::string& out,
                          std::string& error);

// The codecs themselves.
bool ReadPng(std::string_view data, QImage& out, std::string& error);
bool WritePng(const QImage& img, std::string& out, std::string& error);
bool ReadJpeg(std::string_view data, QImage& out, std::string& error);
bool WriteJpeg(const QImage& img, int quality, std::string& out, std::string& error);
bool ReadMag(std::string_view data, QImage& out, std::string& error);
bool WriteMag(const QImage& img, std::string& out, std::string& error);
// Header checks of the formats handed to Qt: every size and offset inside the data.
bool CheckBmp(std::string_view data, std::string& error);
bool CheckIco(std::string_view data, std::string& error);

// A MAG picture as an image (indexed, its palette) and an image as a 256-colour MAG picture
// (width rounded up to the unit; colours reduced by Qt when there are more than 256).
QImage MagToImage(const mag::TMagImage& m);
mag::TMagImage ImageToMag(const QImage& img);

// The formats Qt's plug-ins read besides our own (lower case).
std::vector<std::string> ExtraReadableFormats();

}  // namespace yume
