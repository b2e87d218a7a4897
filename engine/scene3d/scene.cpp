#include "engine/scene3d/scene.h"

#include <algorithm>

#include "engine/core/log.h"

namespace vek {

namespace {
cSceneManager* g_SceneManager = nullptr;
}  // namespace

cSceneManager* SceneManager() { return g_SceneManager; }

f32 cCamera::GetLength() const {
  f32 length = 0.0f;
  for (const auto* path : {&eyePath, &targetPath, &upPath}) {
    if (path->GetKeyCount() > 0) length = std::max(length, path->GetParams().back());
  }
  return length;
}

void cCamera::SetFrame(const vec3& eye, const vec3& target, const vec3& upHint) {
  position = eye;
  forward = target - eye;
  forward.Normalize();
  up = upHint;
  right = Cross(forward, up);
  right.Normalize();
  up = Cross(right, forward);
}

mat4 cCamera::GetViewMatrix(f32 t) {
  if (eyePath.GetKeyCount() > 0 && targetPath.GetKeyCount() > 0 && upPath.GetKeyCount() > 0 &&
      t >= 0.0f) {
    const vec3 eye = eyePath.GetPosition(t);
    const vec3 target = targetPath.GetPosition(t);
    const vec3 upHint = upPath.GetPosition(t);
    SetFrame(eye, target, upHint);
  }
  return MatrixLookAt(position, position + forward, up);
}

mat4 MatrixLookAt(const vec3& eye, const vec3& at, const vec3& up) {
  vec3 f = at - eye;
  f.Normalize();
  vec3 s = Cross(f, up);
  s.Normalize();
  const vec3 u = Cross(s, f);
  return mat4{s.x, u.x, -f.x, 0.0f,  //
              s.y, u.y, -f.y, 0.0f,  //
              s.z, u.z, -f.z, 0.0f,  //
              -Dot(s, eye), -Dot(u, eye), Dot(f, eye), 1.0f};
}

cScene::cScene(const vek::string& sceneName, bool reserved) : name(sceneName) {
  AddCamera(cCamera());
  if (g_SceneManager) handle = g_SceneManager->Add(this, reserved);
}

u32 cScene::AddCamera(const cCamera& camera) {
  const bool first = cameras.empty();
  cameras.push_back(camera);
  if (first) SetCurrentCamera(camera.name);
  return static_cast<u32>(cameras.size() - 1);
}

u32 cScene::FindCamera(const vek::string& cameraName) const {
  for (size_t i = 0; i < cameras.size(); ++i) {
    if (cameras[i].name == cameraName) return static_cast<u32>(i);
  }
  return 0;
}

void cScene::SetCurrentCamera(const vek::string& cameraName) {
  if (cameras.empty()) return;
  currentCamera = FindCamera(cameraName);
  cCamera& camera = cameras[currentCamera];
  const f32 length = camera.GetLength();
  cameraAnimation.m_Mode = cFrameAnimation::e_Stop;
  cameraAnimation.m_Frame = 0;
  cameraAnimation.m_Count = static_cast<i32>(length * 30.0f);
  cameraAnimation.m_Elapsed = 0.0f;
  cameraAnimation.m_FrameTime = 1.0f / 30.0f;
  cameraAnimation.m_Direction = 1;
  cameraAnimation.SetMode(cFrameAnimation::e_Stop, true);
  camera.GetViewMatrix(0.0f);
}

void CreateSceneManager() {
  if (g_SceneManager) {
    LogWarning("CreateSceneManager", "Already exist\n");
    return;
  }
  g_SceneManager = new cSceneManager(30, 1);
  cLight light;
  const f32 values[8] = {0.8f, 0.8f, 0.8f, 0.0f, 0.0f, 15.0f, 1.0f, 200.0f};
  std::copy(values, values + 8, light.values);
  cScene* scene = new cScene("unnamed", true);  // registers itself in handle 0
  scene->lights.push_back(light);
  scene->lightFlags.push_back(true);
  LogText("CreateSceneManager", "Ok\n");
}

void DestroySceneManager() {
  delete g_SceneManager;
  g_SceneManager = nullptr;
  LogText("DestroySceneManager", "Ok\n");
}

}  // namespace vek
