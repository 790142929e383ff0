#pragma once

#include <glm/vec3.hpp>

// What the demo and its content generator (tools/contentgen) must agree on,
// written once for both: the files the demo reads and the points the model
// is built around. The generator writes every file where the demo looks.
namespace tolvane::content {

// Files, relative to the demo's run directory (the folder holding
// Config.ini); the model, textures and music lie beside it.
inline constexpr const char* kModelFile = "../Models/hut_150k_scaled_w.fbx";
inline constexpr const char* kMusicFile = "../Music/DanceWithDragon_160kbts.mp3";
inline constexpr const char* kFireTexture = "../Textures/fire-p.png";
inline constexpr const char* kFairyDustTexture = "../Textures/fairydust.tif";
inline constexpr const char* kSmokeTexture = "../Textures/smoke.png";
inline constexpr const char* kWhiteTexture = "../Textures/white.png";
inline constexpr const char* kFlameSpriteSheet = "../Textures/flame_sprite2.png";
inline constexpr const char* kCameraPathFiles[4] = {"campath1.xml", "campath2.xml", "campath3.xml", "campath4.xml"};
inline constexpr const char* kTextFont = "Fonts/Beyond Wonderland.ttf";
inline constexpr const char* kTitleFont = "Fonts/Celtasmigoria.ttf";

// The images the scene loads besides the model's own, in the order it loads them.
inline constexpr const char* kSceneTextureFiles[5] = {kFireTexture, kFairyDustTexture, kSmokeTexture, kWhiteTexture,
                                                      kFlameSpriteSheet};

// The music's form, in bars of kMusicBarSeconds from where the timeline
// starts it: a quiet opening, the theme, a build, the climax, and a coda that
// runs to the end. Written for the pace of a 60 Hz screen (30 timeline steps
// a second): the climax comes in with the cut to the last flight, round the
// camp fire, and the coda carries its end and the credits.
inline constexpr float kMusicBarSeconds = 1.5f;
inline constexpr int kMusicThemeBar = 10;
inline constexpr int kMusicBuildBar = 26;
inline constexpr int kMusicClimaxBar = 42;
inline constexpr int kMusicCodaBar = 50;

// Scene units, world space.
// The two torch flames (the demo's billboards, with a torch light each).
inline constexpr glm::vec3 kTorchFlameA(-1.384822f, 1.367798f, 0.000135755f);
inline constexpr glm::vec3 kTorchFlameB(-3.157109f, 2.458664f, -1.869101f);
// The camp fire's emitter: the corner of the box its particles start in.
inline constexpr glm::vec3 kFireEmitter(-6.469789f, 0.5f, -6.481397f);
// How far the fire's particles spread from the emitter along x and z.
inline constexpr float kFireSpread = 0.8f;
// The middle of the fire pit, on the ground under the flames.
inline constexpr glm::vec3 kFirePit(kFireEmitter.x + 0.5f * kFireSpread, 0.0f, kFireEmitter.z + 0.5f * kFireSpread);
// The camera: where it stands until the first flight moves it, and the
// point it looks at through each of the four flights (the first from the
// start, each other from the cut that ends the flight before). The flights
// (tools/contentgen/data/camera_flights.txt) are drawn round these points,
// which lie beside the hut and the fire rather than on them, so that the
// two sit off the middle of the picture while the camera moves.
inline constexpr glm::vec3 kCameraStart(3.75f, 1.3f, 6.15f);
inline constexpr glm::vec3 kFlightTargets[4] = {
    {-3.0f, 1.2f, -1.0f},  // between the hut and the fire, seen from the front
    {2.5f, 1.5f, -1.0f},   // off the east wall, by the side window
    {-3.5f, 1.0f, -1.5f},  // by the torch pole, between the hut and the fire
    {-6.5f, 1.8f, -6.5f},  // over the fire, where its smoke and sparks rise
};

// The camp fire's light: over the pit, in the flames, so that it lights the
// stones and logs around them.
inline constexpr glm::vec3 kCampfireLight(kFirePit.x, 0.7f, kFirePit.z);

}  // namespace tolvane::content
