// Windows bitmap and icon files.
#pragma once
#include "picture.h"
#include <cstdint>
#include <string>
#include <vector>

// Uncompressed bottom-up 24-bit BMP with a 40-byte info header.
bool WriteBmp24(const std::string &path, const Picture &pic);

// Uncompressed bottom-up 4-bit BMP: one palette index per pixel, top row first.
bool WriteBmp4(const std::string &path, int width, int height, const std::vector<uint8_t> &indices,
               const std::vector<Color> &palette);

// Icon file with one 32-bit image (colour and coverage) per picture.
bool WriteIcon(const std::string &path, const std::vector<const Picture *> &images);
