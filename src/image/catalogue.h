// Every sprite slot of the programme. The picture table says which picture
// goes into which slot and which loader creates it.
#pragma once

class ImageWrapper;

// Filled by loadImageCatalogue (image/picture_table.h).
extern ImageWrapper* sphereOverlay;
extern ImageWrapper* blobOverlay;
extern ImageWrapper* slut[17];     // 0..9 "slut1".."slut10", 10..16 "ost1".."ost7"
extern ImageWrapper* maskine[13];  // 0..9 "maskine1".."maskine10", 10..12 "kost1".."kost3"
extern ImageWrapper* noise[2];
extern ImageWrapper* soya[7];
extern ImageWrapper* maskineFlash[7];  // "maskine11".."maskine17"
extern ImageWrapper* hearing[2];
extern ImageWrapper* code[4];
extern ImageWrapper* gfx[4];
extern ImageWrapper* msx[4];
// "pause" itself is taken by the C library (unistd.h).
extern ImageWrapper* pausePicture[2];

// Filled by the loading sequence and the scene loaders.
extern ImageWrapper* loading;
extern ImageWrapper* twistBox;
extern ImageWrapper* twist1;
extern ImageWrapper* twist2;
extern ImageWrapper* twist3;
extern ImageWrapper* tunnelTexture;
extern ImageWrapper* tunnelKasseTexture;
extern ImageWrapper* kasseTexture;
extern ImageWrapper* kasseTransTexture;
extern ImageWrapper* sphereFlare;
extern ImageWrapper* spheresTexture[4];
extern ImageWrapper* bitmapTexture;
extern ImageWrapper* bitmapEnv;
extern ImageWrapper* spikeTexture;
extern ImageWrapper* spikeTunnelTexture;
extern ImageWrapper* spikeFlare;
