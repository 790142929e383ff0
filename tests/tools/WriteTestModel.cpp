// Writes a small model file for the end-to-end tests: two squares, the
// first without texture coordinates. Usage: WriteTestModel OUT.fbx TEXTURE
#include "ModelFiles.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUT.fbx TEXTURE\n", argv[0]);
        return 2;
    }
    using tolvane::test::TestMesh;
    const bool written = tolvane::test::writeTestModel(
        argv[1], {TestMesh{"bare", 0.0f, 0, false}, TestMesh{"mapped", 1.0f, 1, true}}, {argv[2], argv[2]});
    return written ? 0 : 1;
}
