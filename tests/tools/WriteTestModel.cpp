// Writes a small model file for the end-to-end tests: two squares, the
// first without texture coordinates, or with `lines` only the outline of the
// first. Usage: WriteTestModel OUT.fbx TEXTURE [lines]
#include "ModelFiles.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: %s OUT.fbx TEXTURE [lines]\n", argv[0]);
        return 2;
    }
    using tolvane::test::TestMesh;
    const bool lines = argc == 4 && std::string(argv[3]) == "lines";
    const TestMesh first = lines ? TestMesh{"outline", 0.0f, 0, true, true} : TestMesh{"bare", 0.0f, 0, false};
    const bool written =
        tolvane::test::writeTestModel(argv[1], {first, TestMesh{"mapped", 1.0f, 1, true}}, {argv[2], argv[2]});
    return written ? 0 : 1;
}
