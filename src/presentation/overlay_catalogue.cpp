#include "presentation/overlay_catalogue.h"

AlphaSprite* sphereOverlay = nullptr;
AlphaSprite* blobOverlay = nullptr;
AlphaSprite* slutPictures[10] = {};
AlphaSprite* maskinePictures[10] = {};
AlphaSprite* ostPictures[7] = {};
AlphaSprite* kostPictures[3] = {};
AlphaSprite* noisePictures[2] = {};
Sprite* soyaPictures[7] = {};
AlphaSprite* maskineLatePictures[7] = {};
Sprite* hearingPictures[2] = {};
Sprite* codePictures[4] = {};
Sprite* gfxPictures[4] = {};
Sprite* msxPictures[4] = {};
Sprite* pausePictures[2] = {};

namespace {

// One picture of the catalogue. An entry with an alpha picture becomes an
// AlphaSprite in alphaSlot; one without becomes a plain Sprite in plainSlot.
struct CatalogueEntry {
    AlphaSprite** alphaSlot;
    Sprite** plainSlot;
    const char* colour;
    const char* alpha;
};

constexpr CatalogueEntry withAlpha(AlphaSprite*& slot, const char* colour, const char* alpha) {
    return {&slot, nullptr, colour, alpha};
}

constexpr CatalogueEntry plain(Sprite*& slot, const char* colour) {
    return {nullptr, &slot, colour, nullptr};
}

// The load order. The later machine pictures all share one alpha picture, and
// each grain picture is its own alpha, so bright grain is opaque and dark
// grain lets the frame show through.
const CatalogueEntry catalogueEntries[overlayPictureCount] = {
    withAlpha(sphereOverlay, "data/sphereoverlay.jpg", "data/sphereoverlay_alfa.jpg"),
    withAlpha(blobOverlay, "data/bloboverlay.jpg", "data/bloboverlay_alfa.jpg"),
    withAlpha(slutPictures[0], "data/slut1.jpg", "data/slut1_alfa.jpg"),
    withAlpha(slutPictures[1], "data/slut2.jpg", "data/slut2_alfa.jpg"),
    withAlpha(slutPictures[2], "data/slut3.jpg", "data/slut3_alfa.jpg"),
    withAlpha(slutPictures[3], "data/slut4.jpg", "data/slut4_alfa.jpg"),
    withAlpha(slutPictures[4], "data/slut5.jpg", "data/slut5_alfa.jpg"),
    withAlpha(slutPictures[5], "data/slut6.jpg", "data/slut6_alfa.jpg"),
    withAlpha(slutPictures[6], "data/slut7.jpg", "data/slut7_alfa.jpg"),
    withAlpha(slutPictures[7], "data/slut8.jpg", "data/slut8_alfa.jpg"),
    withAlpha(slutPictures[8], "data/slut9.jpg", "data/slut9_alfa.jpg"),
    withAlpha(slutPictures[9], "data/slut10.jpg", "data/slut10_alfa.jpg"),
    withAlpha(maskinePictures[0], "data/maskine1.jpg", "data/maskine1_alfa.jpg"),
    withAlpha(maskinePictures[1], "data/maskine2.jpg", "data/maskine2_alfa.jpg"),
    withAlpha(maskinePictures[2], "data/maskine3.jpg", "data/maskine3_alfa.jpg"),
    withAlpha(maskinePictures[3], "data/maskine4.jpg", "data/maskine4_alfa.jpg"),
    withAlpha(maskinePictures[4], "data/maskine5.jpg", "data/maskine5_alfa.jpg"),
    withAlpha(maskinePictures[5], "data/maskine6.jpg", "data/maskine6_alfa.jpg"),
    withAlpha(maskinePictures[6], "data/maskine7.jpg", "data/maskine7_alfa.jpg"),
    withAlpha(maskinePictures[7], "data/maskine8.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskinePictures[8], "data/maskine9.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskinePictures[9], "data/maskine10.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(ostPictures[0], "data/ost1.jpg", "data/ost1_alfa.jpg"),
    withAlpha(ostPictures[1], "data/ost2.jpg", "data/ost2_alfa.jpg"),
    withAlpha(ostPictures[2], "data/ost3.jpg", "data/ost3_alfa.jpg"),
    withAlpha(ostPictures[3], "data/ost4.jpg", "data/ost4_alfa.jpg"),
    withAlpha(ostPictures[4], "data/ost5.jpg", "data/ost5_alfa.jpg"),
    withAlpha(ostPictures[5], "data/ost6.jpg", "data/ost6_alfa.jpg"),
    withAlpha(ostPictures[6], "data/ost7.jpg", "data/ost7_alfa.jpg"),
    withAlpha(kostPictures[0], "data/kost1.jpg", "data/kost1_alfa.jpg"),
    withAlpha(kostPictures[1], "data/kost2.jpg", "data/kost2_alfa.jpg"),
    withAlpha(kostPictures[2], "data/kost3.jpg", "data/kost3_alfa.jpg"),
    withAlpha(noisePictures[0], "data/nois1.jpg", "data/nois1.jpg"),
    withAlpha(noisePictures[1], "data/nois2.jpg", "data/nois2.jpg"),
    plain(soyaPictures[0], "data/soya1.jpg"),
    plain(soyaPictures[1], "data/soya2.jpg"),
    plain(soyaPictures[2], "data/soya3.jpg"),
    plain(soyaPictures[3], "data/soya4.jpg"),
    plain(soyaPictures[4], "data/soya5.jpg"),
    plain(soyaPictures[5], "data/soya6.jpg"),
    plain(soyaPictures[6], "data/soya7.jpg"),
    withAlpha(maskineLatePictures[0], "data/maskine11.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[1], "data/maskine12.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[2], "data/maskine13.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[3], "data/maskine14.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[4], "data/maskine15.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[5], "data/maskine16.jpg", "data/maskine8_alfa.jpg"),
    withAlpha(maskineLatePictures[6], "data/maskine17.jpg", "data/maskine8_alfa.jpg"),
    plain(hearingPictures[0], "data/hearing1.jpg"),
    plain(hearingPictures[1], "data/hearing2.jpg"),
    plain(codePictures[0], "data/code1.jpg"),
    plain(codePictures[1], "data/code2.jpg"),
    plain(codePictures[2], "data/code3.jpg"),
    plain(codePictures[3], "data/code4.jpg"),
    plain(gfxPictures[0], "data/gfx1.jpg"),
    plain(gfxPictures[1], "data/gfx2.jpg"),
    plain(gfxPictures[2], "data/gfx3.jpg"),
    plain(gfxPictures[3], "data/gfx4.jpg"),
    plain(msxPictures[0], "data/msx1.jpg"),
    plain(msxPictures[1], "data/msx2.jpg"),
    plain(msxPictures[2], "data/msx3.jpg"),
    plain(msxPictures[3], "data/msx4.jpg"),
    plain(pausePictures[0], "data/pause1.jpg"),
    plain(pausePictures[1], "data/pause2.jpg"),
};

}  // namespace

void loadOverlayCatalogue() {
    // Loaded again (the tests do), each slot frees the picture it held.
    for (const CatalogueEntry& entry : catalogueEntries) {
        Sprite* picture = nullptr;
        if (entry.alphaSlot != nullptr) {
            AlphaSprite* withAlphaPicture = new AlphaSprite(entry.alpha, entry.colour);
            delete *entry.alphaSlot;
            *entry.alphaSlot = withAlphaPicture;
            picture = withAlphaPicture;
        } else {
            picture = new Sprite(entry.colour);
            delete *entry.plainSlot;
            *entry.plainSlot = picture;
        }
        picture->resetPlacement();
    }
}
