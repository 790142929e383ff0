// What the lit fragment shaders (specular.frag, normalMap.frag) share: the
// inputs, uniforms and outputs they have in common, the shadow lookup, the
// lighting and the writing of both outputs. Pulled in with
//     #include "lighting.glsl"
// after the #version line; each includer keeps only its own main() and what
// it alone reads (the normal map's tangent frame).

in vec3 worldPosition;
in vec3 worldNormal;
in vec2 texCoord;

// Up to MAX_POINT_LIGHTS point lights; the scene registers four.
const int MAX_POINT_LIGHTS = 16;
// Reflectance at normal incidence of a typical dielectric.
const float SPECULAR_REFLECTANCE = 0.04;
// HDR luminance above which a colour feeds the bloom.
const float BLOOM_THRESHOLD = 1.0;
const float PI = 3.14159265;
// Texels per edge of a shadow cube face (90 degrees wide).
const float SHADOW_FACE_TEXELS = 1000.0;
// PCF taps on a unit disk, at radii sqrt((i + 0.5) / n) and golden-angle
// steps. Each pixel turns the whole disk by its own angle, so that the few
// taps sample different places in neighbouring pixels and the penumbra
// comes out as a fine grain instead of copies of the pattern.
const int PCF_TAPS = 4;
const vec2 PCF_DISK[PCF_TAPS] = vec2[](
    vec2(0.3536, 0.0000), vec2(-0.4515, 0.4137), vec2(0.0691, -0.7875), vec2(0.5691, 0.7423));
// Penumbra radius and lift off the surface, in shadow texels.
const float PCF_RADIUS_TEXELS = 5.0;
const float NORMAL_OFFSET_TEXELS = 1.5;
// The ambient light comes from a hemisphere: the night sky's cool blue from
// above, a dim earthen brown bounced from the ground below. A wall (normal
// level) gets the mean of the two; the configured intensity scales both.
const vec3 AMBIENT_SKY = vec3(0.75, 0.95, 1.5);
const vec3 AMBIENT_GROUND = vec3(0.45, 0.36, 0.28);
// Night mist over the clearing, thickest on the ground and thinning with
// height, which fades the woods towards the sky's colour at the horizon
// (linear HDR, what the sky dome's emission gives there). Fog starts at
// FOG_START metres from the eye, so the clearing itself stays clear; the
// density halves every FOG_HALF_HEIGHT metres up, so the dome is misty
// only near the horizon.
const vec3 FOG_COLOR = vec3(0.0135, 0.018, 0.034);
const float FOG_START = 11.0;
const float FOG_DENSITY = 0.045;  // per metre at ground level
const float FOG_HALF_HEIGHT = 4.0;

uniform vec3 cameraPosition;
uniform float ambientIntensity;
uniform int pointLightCount;
uniform vec3 pointLightPositions[MAX_POINT_LIGHTS];
uniform float pointLightIntensities[MAX_POINT_LIGHTS];
uniform vec3 pointLightColors[MAX_POINT_LIGHTS];  // linear RGB
uniform float pointLightAttenuation[MAX_POINT_LIGHTS];
uniform int pointLightShadowMapBitmask;
uniform samplerCubeShadow depthMap;  // compares with <=, filters linearly
uniform vec2 near_far;
uniform sampler2D textureSampler;
uniform vec3 materialColor;
uniform float shininess;
uniform vec3 emission;  // self-lit share of the albedo, per channel
uniform float highlight;  // share of the specular highlight, 0 matte to 1

layout(location = 0) out vec4 fragColor;
layout(location = 1) out vec4 brightColor;

// The depth the shadow pass stored for a point at `fromLight` from the
// light: the point lies in the cube face of the vector's largest component,
// whose view axis that component measures; the face's projection (near and
// far planes from near_far) maps it to window depth.
float cubeFaceDepth(vec3 fromLight)
{
    vec3 a = abs(fromLight);
    float axisDistance = max(a.x, max(a.y, a.z));
    float near = near_far.x;
    float far = near_far.y;
    return 0.5 * (far + near) / (far - near) + 0.5 - far * near / ((far - near) * axisDistance);
}

// Share of the light from `lightPosition` that reaches `position`, 0 to 1.
// The cube map holds each face's own perspective depth of the nearest
// surface; depthMap compares with it in hardware and filters the four nearest
// results bilinearly, so every tap is itself a small soft PCF. `geometricNormal`
// is the interpolated surface normal (not the normal-mapped one), since only
// the real surface can shadow itself: a surface turned away from the light
// is in its own shadow without a lookup.
//
// The taps lie on a disk in the surface's own plane, lifted off it along the
// normal by a texel and a half: every tap is then compared with the depth of
// the surface seen through its own direction, so a lit wall shows no acne at
// any angle, and the lift is too small to let light leak under objects that
// stand on a floor.
float shadowVisibility(vec3 position, vec3 geometricNormal, vec3 lightPosition)
{
    vec3 fromLight = position - lightPosition;
    float distance = length(fromLight);
    if (distance >= near_far.y)
        return 1.0;
    if (dot(geometricNormal, fromLight) >= 0.0)
        return 0.0;
    // World size of one shadow texel at this distance.
    float texel = 2.0 * distance / SHADOW_FACE_TEXELS;
    vec3 center = fromLight + geometricNormal * (NORMAL_OFFSET_TEXELS * texel);
    vec3 helper = abs(geometricNormal.y) < 0.9 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0);
    vec3 along = normalize(cross(geometricNormal, helper));
    vec3 across = cross(geometricNormal, along);
    float radius = PCF_RADIUS_TEXELS * texel;
    // Interleaved gradient noise: a turn that differs from pixel to pixel.
    float turn = 6.2831853 * fract(52.9829189 * fract(dot(gl_FragCoord.xy, vec2(0.06711056, 0.00583715))));
    vec3 u = (along * cos(turn) + across * sin(turn)) * radius;
    vec3 v = cross(geometricNormal, u);
    float lit = 0.0;
    for (int i = 0; i < PCF_TAPS; ++i) {
        vec3 tap = center + u * PCF_DISK[i].x + v * PCF_DISK[i].y;
        lit += texture(depthMap, vec4(tap, cubeFaceDepth(tap)));
    }
    return lit / float(PCF_TAPS);
}

// Blinn-Phong over every point light plus the hemisphere ambient and the
// surface's own emission. A light of intensity I and colour c at distance d
// with attenuation a contributes c I / (1 + a d^2). The specular lobe is
// normalised by (shininess + 8) / (8 pi) so that its energy does not depend
// on the shininess. `albedo` is linear.
vec3 shade(vec3 position, vec3 normal, vec3 geometricNormal, vec3 albedo)
{
    vec3 toEye = normalize(cameraPosition - position);
    vec3 sky = mix(AMBIENT_GROUND, AMBIENT_SKY, 0.5 + 0.5 * normal.y);
    vec3 color = (ambientIntensity * sky + emission) * albedo;
    float specularScale = highlight * SPECULAR_REFLECTANCE * (shininess + 8.0) / (8.0 * PI);
    int count = min(pointLightCount, MAX_POINT_LIGHTS);
    // The one cube map bound serves the lowest light of the bitmask. Looked
    // up once, before the loop: inside it, a rasteriser that runs masked
    // code for every light would pay the lookup once per light.
    int shadowed = -1;
    for (int i = count - 1; i >= 0; --i)
        if ((pointLightShadowMapBitmask & (1 << i)) != 0)
            shadowed = i;
    float visibility = shadowed < 0 ? 1.0
        : shadowVisibility(position, geometricNormal, pointLightPositions[shadowed]);
    for (int i = 0; i < count; ++i) {
        vec3 toLight = pointLightPositions[i] - position;
        float distance = length(toLight);
        toLight /= distance;
        float diffuse = max(dot(normal, toLight), 0.0);
        if (diffuse <= 0.0)
            continue;
        vec3 falloff = pointLightColors[i] * pointLightIntensities[i]
            / (1.0 + pointLightAttenuation[i] * distance * distance);
        if (i == shadowed)
            falloff *= visibility;
        vec3 halfway = normalize(toLight + toEye);
        float specular = specularScale * pow(max(dot(normal, halfway), 0.0), shininess);
        color += falloff * diffuse * (albedo + vec3(specular));
    }
    return color;
}

// Imported meshes may carry normals or tangents of zero length, or tangents
// along the normal; normalising such a vector gives NaN. It falls back on
// `fallback`, which must have unit length.
vec3 normalizeOr(vec3 v, vec3 fallback)
{
    float lengthSquared = dot(v, v);
    return lengthSquared > 1e-12 && lengthSquared < 1e30 ? v * inversesqrt(lengthSquared) : fallback;
}

// The interpolated normal or, where the mesh gives none, the face's own
// normal from the slope of the position across the pixel, facing the eye.
vec3 surfaceNormal()
{
    vec3 toEye = normalizeOr(cameraPosition - worldPosition, vec3(0.0, 1.0, 0.0));
    vec3 face = normalizeOr(cross(dFdx(worldPosition), dFdy(worldPosition)), toEye);
    return normalizeOr(worldNormal, dot(face, toEye) < 0.0 ? -face : face);
}

// Height fog between the eye and `position`: the density falls off
// exponentially with height, so the optical depth along the ray is the
// ground density times the length beyond FOG_START times the mean of
// 2^(-y / FOG_HALF_HEIGHT) over the ray's heights, in closed form.
vec3 fogged(vec3 color, vec3 position)
{
    vec3 ray = position - cameraPosition;
    float distance = length(ray);
    float beyond = max(distance - FOG_START, 0.0);
    if (beyond <= 0.0)
        return color;
    float k = 0.6931472 / FOG_HALF_HEIGHT;
    float rise = ray.y * beyond / distance;
    float start = position.y - rise;
    float meanDensity = abs(rise) > 1e-3
        ? (exp(-k * start) - exp(-k * position.y)) / (k * rise)
        : exp(-k * position.y);
    float clear = exp(-FOG_DENSITY * beyond * min(meanDensity, 1.0));
    return mix(FOG_COLOR, color, clear);
}

// Writes the scene colour and, always, its part above the bloom threshold
// (zero below it), with a soft knee so highlights do not pop into the bloom.
// Fog comes first: a distant light glows less through the mist.
void writeOutputs(vec3 color, float alpha)
{
    color = fogged(color, worldPosition);
    // A colour that is not a number (a broken mesh or material) would be
    // spread over the whole picture by the blur; such a fragment is black.
    if (any(isnan(color)) || any(isinf(color)))
        color = vec3(0.0);
    float luminance = dot(color, vec3(0.2126, 0.7152, 0.0722));
    float excess = max(luminance - BLOOM_THRESHOLD, 0.0);
    fragColor = vec4(color, alpha);
    brightColor = vec4(color * (excess / max(luminance, 1e-4)), alpha);
}
