#include "sound/mp3_player.h"

// Not wired to a sound system yet: the player stays silent.
MP3Player::MP3Player(const char*) {}
MP3Player::~MP3Player() = default;
void MP3Player::play() {}
const char* soundErrorText(int) { return "Unknown error"; }
