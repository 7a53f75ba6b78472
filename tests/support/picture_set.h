// A complete set of the programme's pictures for tests: every file of the
// picture table, small, each of one colour of its own, so that a frame shows
// by its colour which picture was drawn.
#pragma once

#include "gl_fixture.h"

#include <string>
#include <vector>

// Every distinct file the table names ("data/..."), in the order it is first loaded.
std::vector<std::string> pictureFiles();
// How many sprites the table makes: a row of a group each.
size_t pictureTableRows();

// The colour of the set's picture for this file ("data/soya1.jpg").
Rgb pictureColour(const std::string& file);

// Writes the whole set under folder (as folder/data/...), size x size pixels each.
void writePictureSet(const std::string& folder, int size = 8);
