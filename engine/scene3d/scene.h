#pragma once
// The scene manager: the third of the 3-D layer's resource tables (managers.h). A scene holds
// lights and cameras; a camera is placed by three Catmull-Rom paths over time (eye, target,
// up) and gives a right-handed look-at view matrix for row vectors. Axes: z is up, a new
// camera looks along +y, right = forward x up.
#include <array>
#include <vector>

#include "engine/core/container_ptr.h"
#include "engine/core/curve.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/render/frame_animation.h"

namespace vek {

using mat4 = std::array<f32, 16>;  // row after row

struct cLight {
  vek::string name = "unnamed";
  u32 kind = 0;
  f32 values[8] = {0, 0, 0, 0, 0, 1.0f, 0.0f, 200.0f};
};

struct cCamera {
  vek::string name = "unnamed";
  f32 viewAngle = 0.7853982f;
  vec3 position{0, 0, 0};
  vec3 forward{0, 1, 0};
  vec3 up{0, 0, 1};
  vec3 right{1, 0, 0};
  curve_CatmullRomSpline<vec3> eyePath;
  curve_CatmullRomSpline<vec3> targetPath;
  curve_CatmullRomSpline<vec3> upPath;

  // The largest last-key parameter of the paths that have keys; 0 when none has any.
  f32 GetLength() const;
  // Places the camera at eye looking at target; up is made exactly perpendicular. An eye on
  // the target gives zero vectors, never a division by zero.
  void SetFrame(const vec3& eye, const vec3& target, const vec3& upHint);
  // With keys on all three paths and t >= 0 the frame first follows the paths at t.
  mat4 GetViewMatrix(f32 t);
};

mat4 MatrixLookAt(const vec3& eye, const vec3& at, const vec3& up);

struct cScene {
  // Builds the default camera (current) and registers the scene in the scene manager.
  cScene(const vek::string& sceneName, bool reserved);
  vek::string name;
  std::vector<cLight> lights;
  std::vector<bool> lightFlags;
  std::vector<cCamera> cameras;
  u32 currentCamera = 0;
  cFrameAnimation cameraAnimation;
  u32 handle = 0;

  // Appends a copy; the first camera of a scene becomes current. Returns its index.
  u32 AddCamera(const cCamera& camera);
  // Index of the first camera of that name; 0 when none has it.
  u32 FindCamera(const vek::string& cameraName) const;
  // Makes the named camera current (camera 0 when the name is unknown), sets the frame
  // counter to the length of its paths at 30 frames a second and places it at t = 0.
  void SetCurrentCamera(const vek::string& cameraName);

  cScene(const cScene&) = delete;
  cScene& operator=(const cScene&) = delete;
};

using cSceneManager = cContainerPtr<cScene>;

cSceneManager* SceneManager();
// Create builds the default scene "unnamed" with its camera and one light; a second call logs
// "Already exist" and changes nothing. Destroy logs "Ok" also when there was no manager.
void CreateSceneManager();
void DestroySceneManager();

}  // namespace vek
