#pragma once

// The one list of media files the demo reads from data/. The generator writes
// exactly these files and the tests check exactly these, so a name cannot
// drift between the two.

#include <array>
#include <string_view>

namespace assets {

// How a picture is used on screen, which decides what it must look like.
enum class Use {
    FullScreen,   // opaque picture drawn over the whole screen
    Cutout,       // colour picture laid over a 3D effect through its alpha picture
    Mask,         // alpha picture: its brightest channel is the opacity
    Grain,        // noise picture, its own alpha, blended over every frame
    Tile,         // surface texture drawn with repeat wrapping
    Flare,        // radial glow on black, its own alpha
    Translucent,  // box texture, its own alpha: bright edges, faint faces
    Pixelated,    // drawn with nearest filtering
    SphereMap,    // environment picture for sphere-map coordinates
};

struct Picture {
    std::string_view file;  // name inside data/
    int side;               // width and height in pixels
    Use use;
    std::string_view alpha;  // alpha picture of a cut-out, empty otherwise
};

constexpr int screenSide = 512;
constexpr int textureSide = 256;

constexpr std::string_view musicFile = "music.mp3";

// clang-format off
constexpr std::array pictures{
    Picture{"loading.jpg", screenSide, Use::FullScreen, ""},

    Picture{"sphereoverlay.jpg", screenSide, Use::Cutout, "sphereoverlay_alfa.jpg"},
    Picture{"bloboverlay.jpg", screenSide, Use::Cutout, "bloboverlay_alfa.jpg"},
    Picture{"slut1.jpg", screenSide, Use::Cutout, "slut1_alfa.jpg"},
    Picture{"slut2.jpg", screenSide, Use::Cutout, "slut2_alfa.jpg"},
    Picture{"slut3.jpg", screenSide, Use::Cutout, "slut3_alfa.jpg"},
    Picture{"slut4.jpg", screenSide, Use::Cutout, "slut4_alfa.jpg"},
    Picture{"slut5.jpg", screenSide, Use::Cutout, "slut5_alfa.jpg"},
    Picture{"slut6.jpg", screenSide, Use::Cutout, "slut6_alfa.jpg"},
    Picture{"slut7.jpg", screenSide, Use::Cutout, "slut7_alfa.jpg"},
    Picture{"slut8.jpg", screenSide, Use::Cutout, "slut8_alfa.jpg"},
    Picture{"slut9.jpg", screenSide, Use::Cutout, "slut9_alfa.jpg"},
    Picture{"slut10.jpg", screenSide, Use::Cutout, "slut10_alfa.jpg"},
    Picture{"maskine1.jpg", screenSide, Use::Cutout, "maskine1_alfa.jpg"},
    Picture{"maskine2.jpg", screenSide, Use::Cutout, "maskine2_alfa.jpg"},
    Picture{"maskine3.jpg", screenSide, Use::Cutout, "maskine3_alfa.jpg"},
    Picture{"maskine4.jpg", screenSide, Use::Cutout, "maskine4_alfa.jpg"},
    Picture{"maskine5.jpg", screenSide, Use::Cutout, "maskine5_alfa.jpg"},
    Picture{"maskine6.jpg", screenSide, Use::Cutout, "maskine6_alfa.jpg"},
    Picture{"maskine7.jpg", screenSide, Use::Cutout, "maskine7_alfa.jpg"},
    Picture{"maskine8.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine9.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine10.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"ost1.jpg", screenSide, Use::Cutout, "ost1_alfa.jpg"},
    Picture{"ost2.jpg", screenSide, Use::Cutout, "ost2_alfa.jpg"},
    Picture{"ost3.jpg", screenSide, Use::Cutout, "ost3_alfa.jpg"},
    Picture{"ost4.jpg", screenSide, Use::Cutout, "ost4_alfa.jpg"},
    Picture{"ost5.jpg", screenSide, Use::Cutout, "ost5_alfa.jpg"},
    Picture{"ost6.jpg", screenSide, Use::Cutout, "ost6_alfa.jpg"},
    Picture{"ost7.jpg", screenSide, Use::Cutout, "ost7_alfa.jpg"},
    Picture{"kost1.jpg", screenSide, Use::Cutout, "kost1_alfa.jpg"},
    Picture{"kost2.jpg", screenSide, Use::Cutout, "kost2_alfa.jpg"},
    Picture{"kost3.jpg", screenSide, Use::Cutout, "kost3_alfa.jpg"},
    Picture{"nois1.jpg", screenSide, Use::Grain, ""},
    Picture{"nois2.jpg", screenSide, Use::Grain, ""},
    Picture{"soya1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya2.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya3.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya4.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya5.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya6.jpg", screenSide, Use::FullScreen, ""},
    Picture{"soya7.jpg", screenSide, Use::FullScreen, ""},
    Picture{"maskine11.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine12.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine13.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine14.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine15.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine16.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"maskine17.jpg", screenSide, Use::Cutout, "maskine8_alfa.jpg"},
    Picture{"hearing1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"hearing2.jpg", screenSide, Use::FullScreen, ""},
    Picture{"code1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"code2.jpg", screenSide, Use::FullScreen, ""},
    Picture{"code3.jpg", screenSide, Use::FullScreen, ""},
    Picture{"code4.jpg", screenSide, Use::FullScreen, ""},
    Picture{"gfx1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"gfx2.jpg", screenSide, Use::FullScreen, ""},
    Picture{"gfx3.jpg", screenSide, Use::FullScreen, ""},
    Picture{"gfx4.jpg", screenSide, Use::FullScreen, ""},
    Picture{"msx1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"msx2.jpg", screenSide, Use::FullScreen, ""},
    Picture{"msx3.jpg", screenSide, Use::FullScreen, ""},
    Picture{"msx4.jpg", screenSide, Use::FullScreen, ""},
    Picture{"pause1.jpg", screenSide, Use::FullScreen, ""},
    Picture{"pause2.jpg", screenSide, Use::FullScreen, ""},

    Picture{"sphereoverlay_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"bloboverlay_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut1_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut2_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut3_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut4_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut5_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut6_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut7_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut8_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut9_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"slut10_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine1_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine2_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine3_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine4_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine5_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine6_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine7_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"maskine8_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost1_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost2_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost3_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost4_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost5_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost6_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"ost7_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"kost1_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"kost2_alfa.jpg", screenSide, Use::Mask, ""},
    Picture{"kost3_alfa.jpg", screenSide, Use::Mask, ""},

    Picture{"twistbox2.jpg", textureSide, Use::Tile, ""},
    Picture{"twist_1.jpg", textureSide, Use::Tile, ""},
    Picture{"twist_2.jpg", textureSide, Use::Tile, ""},
    Picture{"twist_3.jpg", textureSide, Use::Tile, ""},
    Picture{"spike_texture.jpg", textureSide, Use::Tile, ""},
    Picture{"spike_tunnel_texture.jpg", textureSide, Use::Tile, ""},
    Picture{"spike_flare_texture.jpg", textureSide, Use::Flare, ""},
    Picture{"sphere_flare.jpg", textureSide, Use::Flare, ""},
    Picture{"spheres_texture1.jpg", textureSide, Use::Tile, ""},
    Picture{"spheres_texture2.jpg", textureSide, Use::Tile, ""},
    Picture{"spheres_texture3.jpg", textureSide, Use::Tile, ""},
    Picture{"kasse_texture.jpg", textureSide, Use::Tile, ""},
    Picture{"kasse_trans_texture.jpg", textureSide, Use::Translucent, ""},
    Picture{"tunnel_texture.jpg", textureSide, Use::Tile, ""},
    Picture{"tunnel_kasse_texture.jpg", textureSide, Use::Tile, ""},
    Picture{"bitmap_texture.jpg", textureSide, Use::Pixelated, ""},
    Picture{"bitmap_env.jpg", textureSide, Use::SphereMap, ""},
};
// clang-format on

constexpr int pictureCount = static_cast<int>(pictures.size());

// Looks a picture up by file name; null when the list has no such file.
constexpr const Picture* findPicture(std::string_view file) {
    for (const Picture& p : pictures) {
        if (p.file == file) {
            return &p;
        }
    }
    return nullptr;
}

}  // namespace assets
