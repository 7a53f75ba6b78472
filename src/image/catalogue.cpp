#include "image/catalogue.h"

ImageWrapper* sphereOverlay = nullptr;
ImageWrapper* blobOverlay = nullptr;
ImageWrapper* slut[17] = {};
ImageWrapper* maskine[13] = {};
ImageWrapper* noise[2] = {};
ImageWrapper* soya[7] = {};
ImageWrapper* maskineFlash[7] = {};
ImageWrapper* hearing[2] = {};
ImageWrapper* code[4] = {};
ImageWrapper* gfx[4] = {};
ImageWrapper* msx[4] = {};
ImageWrapper* pausePicture[2] = {};

ImageWrapper* loading = nullptr;
ImageWrapper* twistBox = nullptr;
ImageWrapper* twist1 = nullptr;
ImageWrapper* twist2 = nullptr;
ImageWrapper* twist3 = nullptr;
ImageWrapper* tunnelTexture = nullptr;
ImageWrapper* tunnelKasseTexture = nullptr;
ImageWrapper* kasseTexture = nullptr;
ImageWrapper* kasseTransTexture = nullptr;
ImageWrapper* sphereFlare = nullptr;
ImageWrapper* spheresTexture[4] = {};
ImageWrapper* bitmapTexture = nullptr;
ImageWrapper* bitmapEnv = nullptr;
ImageWrapper* spikeTexture = nullptr;
ImageWrapper* spikeTunnelTexture = nullptr;
ImageWrapper* spikeFlare = nullptr;
