#version 330 core

// One simulation step for one particle record.
//
// Record types:
//    0  the generator: never dies, turns each requested batch into particles;
//    1  a spawner: carries the part of a batch the generator could not emit
//       in one invocation and emits it in the next step, then disappears;
//   <0  a live particle; -type is its whole lifespan in milliseconds, which
//       the billboard needs to fade it in and out. lifeTime counts down the
//       seconds it has left.
//
// OpenGL 3.3 only promises 1024 output components per invocation, and a
// driver may count every output as a whole vec4 and gl_Position along with
// them, written or not: a record then costs 8 * 4 = 32 components, not 13,
// so one invocation emits at most 32 records. Larger batches are split
// across spawners.

layout(points) in;
layout(points, max_vertices = 32) out;

in vec3 vPositionPass[];
in vec3 vVelocityPass[];
in vec3 vColorPass[];
in float fLifeTimePass[];
in float fSizePass[];
flat in int iTypePass[];
in float fRotationPass[];

out vec3 vPositionOut;
out vec3 vVelocityOut;
out vec3 vColorOut;
out float fLifeTimeOut;
out float fSizeOut;
flat out int iTypeOut;
out float fRotationOut;

uniform float fTimePassed;         // seconds since the previous step
uniform vec3 vOrigin;              // world position of the system's node
uniform vec3 vGenPositionMin;      // spawn box corner, relative to vOrigin
uniform vec3 vGenPositionRange;    // spawn box extent
uniform vec3 vGenVelocityMin;      // units per second
uniform vec3 vGenVelocityRange;
uniform vec3 vGenColor;
uniform vec3 vGenGravityVector;    // acceleration, units per second squared
uniform float fGenLifeMin;         // seconds
uniform float fGenLifeRange;
uniform float fGenSize;            // billboard edge, world units
uniform float fRotationSpeed;      // turns per second
uniform int iNumToGenerate;        // particles requested in this step, 0 when none
uniform vec3 vRandomSeed;          // fresh for every batch

const int GENERATOR = 0;
const int SPAWNER = 1;
const int MAX_RECORDS = 32;  // max_vertices above
const float TWO_PI = 6.2831853;

// A well-mixing integer hash (PCG's output permutation): particle i of a
// batch always gets the same numbers for the same seed, whichever record
// (generator or spawner) ends up emitting it.
uint permute(uint v)
{
    uint state = v * 747796405u + 2891336453u;
    uint word = ((state >> ((state >> 28u) + 4u)) ^ state) * 277803737u;
    return (word >> 22u) ^ word;
}

uint batchKey(vec3 seed)
{
    return permute(floatBitsToUint(seed.x)
                   ^ permute(floatBitsToUint(seed.y) ^ permute(floatBitsToUint(seed.z))));
}

// Uniform in [0, 1): the channel-th number of particle `index`.
float random01(uint key, int index, uint channel)
{
    uint bits = permute(key ^ permute(uint(index) * 16u + channel));
    return float(bits >> 8u) * (1.0 / 16777216.0);
}

vec3 random3(uint key, int index, uint firstChannel)
{
    return vec3(random01(key, index, firstChannel),
                random01(key, index, firstChannel + 1u),
                random01(key, index, firstChannel + 2u));
}

void emitRecord(vec3 position, vec3 velocity, vec3 color, float lifeTime, float size,
                int type, float rotation)
{
    vPositionOut = position;
    vVelocityOut = velocity;
    vColorOut = color;
    fLifeTimeOut = lifeTime;
    fSizeOut = size;
    iTypeOut = type;
    fRotationOut = rotation;
    EmitVertex();
    EndPrimitive();
}

void emitNewParticle(uint key, int index, vec3 origin)
{
    vec3 position = origin + vGenPositionMin + vGenPositionRange * random3(key, index, 0u);
    vec3 velocity = vGenVelocityMin + vGenVelocityRange * random3(key, index, 3u);
    float lifeTime = fGenLifeMin + fGenLifeRange * random01(key, index, 6u);
    float rotation = TWO_PI * random01(key, index, 7u);
    int lifespanMs = max(1, int(round(lifeTime * 1000.0)));
    emitRecord(position, velocity, vGenColor, lifeTime, fGenSize, -lifespanMs, rotation);
}

// Spawners needed so that one generator invocation stays within MAX_RECORDS:
// it writes itself, `direct` particles and the spawners, each of which later
// emits up to MAX_RECORDS particles. At most 31 spawners of 32 cap a batch
// at 992 particles, a little short of the 1000 records a buffer holds.
int spawnersFor(int count)
{
    int firstBatch = MAX_RECORDS - 1;
    if (count <= firstBatch)
        return 0;
    return min((count - 1) / firstBatch, firstBatch);
}

void runGenerator()
{
    emitRecord(vPositionPass[0], vVelocityPass[0], vColorPass[0], fLifeTimePass[0],
               fSizePass[0], GENERATOR, fRotationPass[0]);
    if (iNumToGenerate <= 0)
        return;
    uint key = batchKey(vRandomSeed);
    int spawners = spawnersFor(iNumToGenerate);
    int direct = min(iNumToGenerate, MAX_RECORDS - 1 - spawners);
    for (int i = 0; i < direct; ++i)
        emitNewParticle(key, i, vOrigin);
    for (int s = 0; s < spawners; ++s) {
        int first = direct + s * MAX_RECORDS;
        int count = min(MAX_RECORDS, iNumToGenerate - first);
        // The seed rides in the velocity, the index range in lifeTime and size.
        emitRecord(vOrigin, vRandomSeed, vec3(0.0), float(first), float(count), SPAWNER, 0.0);
    }
}

void runSpawner()
{
    uint key = batchKey(vVelocityPass[0]);
    int first = int(fLifeTimePass[0]);
    int count = min(int(fSizePass[0]), MAX_RECORDS);
    for (int i = 0; i < count; ++i)
        emitNewParticle(key, first + i, vPositionPass[0]);
}

void ageParticle()
{
    float lifeTime = fLifeTimePass[0] - fTimePassed;
    if (lifeTime <= 0.0)
        return;
    vec3 velocity = vVelocityPass[0] + vGenGravityVector * fTimePassed;
    vec3 position = vPositionPass[0] + velocity * fTimePassed;
    // Odd and even lifespans spin opposite ways, so neighbours don't swirl as one.
    float spin = (iTypePass[0] & 1) == 0 ? 1.0 : -1.0;
    float rotation = mod(fRotationPass[0] + spin * TWO_PI * fRotationSpeed * fTimePassed, TWO_PI);
    emitRecord(position, velocity, vColorPass[0], lifeTime, fSizePass[0], iTypePass[0], rotation);
}

void main()
{
    int type = iTypePass[0];
    if (type == GENERATOR)
        runGenerator();
    else if (type == SPAWNER)
        runSpawner();
    else if (type < 0)
        ageParticle();
}
