#include "image/picture_table.h"

#include "image/catalogue.h"
#include "image/image_wrapper.h"

namespace {

const SpriteRow loadingRows[] = {
    {&loading, "data/loading.jpg", nullptr, true},
};

const SpriteRow twistRows[] = {
    {&twistBox, "data/twistbox2.jpg", nullptr, false},
    {&twist1, "data/twist_1.jpg", nullptr, false},
    {&twist2, "data/twist_2.jpg", nullptr, false},
    {&twist3, "data/twist_3.jpg", nullptr, false},
};

const SpriteRow tunnelRows[] = {
    {&tunnelTexture, "data/tunnel_texture.jpg", nullptr, false},
    {&tunnelKasseTexture, "data/tunnel_kasse_texture.jpg", nullptr, false},
};

const SpriteRow blobRows[] = {
    {&kasseTexture, "data/kasse_texture.jpg", nullptr, false},
    {&kasseTransTexture, "data/kasse_trans_texture.jpg", "data/kasse_trans_texture.jpg", false},
};

const SpriteRow spheresRows[] = {
    {&sphereFlare, "data/sphere_flare.jpg", "data/sphere_flare.jpg", true},
    {&spheresTexture[0], "data/spheres_texture1.jpg", nullptr, false},
    {&spheresTexture[1], "data/spheres_texture2.jpg", nullptr, false},
    {&spheresTexture[2], "data/spheres_texture3.jpg", nullptr, false},
    {&spheresTexture[3], "data/spheres_texture1.jpg", nullptr, false},
};

const SpriteRow bitmapRows[] = {
    {&bitmapTexture, "data/bitmap_texture.jpg", nullptr, false},
    {&bitmapEnv, "data/bitmap_env.jpg", nullptr, false},
};

// The spike flare gets its size from its loader and its positions from its scene.
const SpriteRow spikeRows[] = {
    {&spikeTexture, "data/spike_texture.jpg", nullptr, false},
    {&spikeTunnelTexture, "data/spike_tunnel_texture.jpg", nullptr, false},
    {&spikeFlare, "data/spike_flare_texture.jpg", "data/spike_flare_texture.jpg", false},
};

const SpriteRow catalogueRows[] = {
    {&sphereOverlay, "data/sphereoverlay.jpg", "data/sphereoverlay_alfa.jpg", true},
    {&blobOverlay, "data/bloboverlay.jpg", "data/bloboverlay_alfa.jpg", true},

    {&slut[0], "data/slut1.jpg", "data/slut1_alfa.jpg", true},
    {&slut[1], "data/slut2.jpg", "data/slut2_alfa.jpg", true},
    {&slut[2], "data/slut3.jpg", "data/slut3_alfa.jpg", true},
    {&slut[3], "data/slut4.jpg", "data/slut4_alfa.jpg", true},
    {&slut[4], "data/slut5.jpg", "data/slut5_alfa.jpg", true},
    {&slut[5], "data/slut6.jpg", "data/slut6_alfa.jpg", true},
    {&slut[6], "data/slut7.jpg", "data/slut7_alfa.jpg", true},
    {&slut[7], "data/slut8.jpg", "data/slut8_alfa.jpg", true},
    {&slut[8], "data/slut9.jpg", "data/slut9_alfa.jpg", true},
    {&slut[9], "data/slut10.jpg", "data/slut10_alfa.jpg", true},

    {&maskine[0], "data/maskine1.jpg", "data/maskine1_alfa.jpg", true},
    {&maskine[1], "data/maskine2.jpg", "data/maskine2_alfa.jpg", true},
    {&maskine[2], "data/maskine3.jpg", "data/maskine3_alfa.jpg", true},
    {&maskine[3], "data/maskine4.jpg", "data/maskine4_alfa.jpg", true},
    {&maskine[4], "data/maskine5.jpg", "data/maskine5_alfa.jpg", true},
    {&maskine[5], "data/maskine6.jpg", "data/maskine6_alfa.jpg", true},
    {&maskine[6], "data/maskine7.jpg", "data/maskine7_alfa.jpg", true},
    {&maskine[7], "data/maskine8.jpg", "data/maskine8_alfa.jpg", true},
    {&maskine[8], "data/maskine9.jpg", "data/maskine8_alfa.jpg", true},
    {&maskine[9], "data/maskine10.jpg", "data/maskine8_alfa.jpg", true},

    {&slut[10], "data/ost1.jpg", "data/ost1_alfa.jpg", true},
    {&slut[11], "data/ost2.jpg", "data/ost2_alfa.jpg", true},
    {&slut[12], "data/ost3.jpg", "data/ost3_alfa.jpg", true},
    {&slut[13], "data/ost4.jpg", "data/ost4_alfa.jpg", true},
    {&slut[14], "data/ost5.jpg", "data/ost5_alfa.jpg", true},
    {&slut[15], "data/ost6.jpg", "data/ost6_alfa.jpg", true},
    {&slut[16], "data/ost7.jpg", "data/ost7_alfa.jpg", true},

    {&maskine[10], "data/kost1.jpg", "data/kost1_alfa.jpg", true},
    {&maskine[11], "data/kost2.jpg", "data/kost2_alfa.jpg", true},
    {&maskine[12], "data/kost3.jpg", "data/kost3_alfa.jpg", true},

    {&noise[0], "data/nois1.jpg", "data/nois1.jpg", true},
    {&noise[1], "data/nois2.jpg", "data/nois2.jpg", true},

    {&soya[0], "data/soya1.jpg", nullptr, true},
    {&soya[1], "data/soya2.jpg", nullptr, true},
    {&soya[2], "data/soya3.jpg", nullptr, true},
    {&soya[3], "data/soya4.jpg", nullptr, true},
    {&soya[4], "data/soya5.jpg", nullptr, true},
    {&soya[5], "data/soya6.jpg", nullptr, true},
    {&soya[6], "data/soya7.jpg", nullptr, true},

    {&maskineFlash[0], "data/maskine11.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[1], "data/maskine12.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[2], "data/maskine13.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[3], "data/maskine14.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[4], "data/maskine15.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[5], "data/maskine16.jpg", "data/maskine8_alfa.jpg", true},
    {&maskineFlash[6], "data/maskine17.jpg", "data/maskine8_alfa.jpg", true},

    {&hearing[0], "data/hearing1.jpg", nullptr, true},
    {&hearing[1], "data/hearing2.jpg", nullptr, true},

    {&code[0], "data/code1.jpg", nullptr, true},
    {&code[1], "data/code2.jpg", nullptr, true},
    {&code[2], "data/code3.jpg", nullptr, true},
    {&code[3], "data/code4.jpg", nullptr, true},
    {&gfx[0], "data/gfx1.jpg", nullptr, true},
    {&gfx[1], "data/gfx2.jpg", nullptr, true},
    {&gfx[2], "data/gfx3.jpg", nullptr, true},
    {&gfx[3], "data/gfx4.jpg", nullptr, true},
    {&msx[0], "data/msx1.jpg", nullptr, true},
    {&msx[1], "data/msx2.jpg", nullptr, true},
    {&msx[2], "data/msx3.jpg", nullptr, true},
    {&msx[3], "data/msx4.jpg", nullptr, true},

    {&pausePicture[0], "data/pause1.jpg", nullptr, true},
    {&pausePicture[1], "data/pause2.jpg", nullptr, true},
};

template <size_t N>
constexpr SpriteGroup group(const char* loader, const SpriteRow (&rows)[N])
{
    return SpriteGroup{loader, rows, N};
}

}  // namespace

const SpriteGroup LOADING_SPRITES = group("loadAll", loadingRows);
const SpriteGroup TWIST_SPRITES = group("loadTwistScene", twistRows);
const SpriteGroup TUNNEL_SPRITES = group("loadTunnelScene", tunnelRows);
const SpriteGroup BLOB_SPRITES = group("loadBlobScene", blobRows);
const SpriteGroup SPHERES_SPRITES = group("loadSpheresScene", spheresRows);
const SpriteGroup BITMAP_SPRITES = group("loadBitmapScene", bitmapRows);
const SpriteGroup SPIKE_SPRITES = group("loadSpikeScene", spikeRows);
const SpriteGroup CATALOGUE_SPRITES = group("loadImageCatalogue", catalogueRows);

void createSprites(const SpriteGroup& group, PicturePrefetch* pictures)
{
    for (size_t i = 0; i < group.count; ++i) {
        const SpriteRow& row = group.rows[i];
        if (row.alpha) *row.slot = new AlphaImageWrapper(row.alpha, row.colour, pictures);
        else *row.slot = new ImageWrapper(row.colour, pictures);
        if (row.fullScreen) placeOnScreen(*row.slot);
    }
}

void loadImageCatalogue(PicturePrefetch* pictures)
{
    createSprites(CATALOGUE_SPRITES, pictures);
}
