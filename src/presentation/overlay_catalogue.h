#pragma once

#include "presentation/sprite.h"

// The full-screen overlay pictures, one sprite per picture at the default
// placement, in named slots. Every slot is empty until loadOverlayCatalogue
// has run and holds its sprite for the rest of the process afterwards.
extern AlphaSprite* sphereOverlay;
extern AlphaSprite* blobOverlay;
extern AlphaSprite* slutPictures[10];
extern AlphaSprite* maskinePictures[10];
extern AlphaSprite* ostPictures[7];
extern AlphaSprite* kostPictures[3];
extern AlphaSprite* noisePictures[2];
extern Sprite* soyaPictures[7];
extern AlphaSprite* maskineLatePictures[7];
extern Sprite* hearingPictures[2];
extern Sprite* codePictures[4];
extern Sprite* gfxPictures[4];
extern Sprite* msxPictures[4];
extern Sprite* pausePictures[2];

// How many pictures the catalogue holds, counting every array member.
constexpr int overlayPictureCount = 64;

// Loads every overlay picture once, in a fixed order, reading and decoding
// each file anew. A picture that fails is reported ("Error loading") when its
// turn comes and keeps its slot with texture 0; loading goes on.
void loadOverlayCatalogue();
