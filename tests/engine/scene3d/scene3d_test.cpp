// The three-component curves, the material, mesh and scene managers and the camera.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/core/curve.h"
#include "engine/scene3d/managers.h"
#include "engine/scene3d/scene.h"
#include "tests/support/engine_fixture.h"

namespace {

using vek::vec3;
using Spline = vek::curve_CatmullRomSpline<vec3>;

void ExpectNear(const vec3& a, const vec3& b, float tol) {
  EXPECT_NEAR(a.x, b.x, tol);
  EXPECT_NEAR(a.y, b.y, tol);
  EXPECT_NEAR(a.z, b.z, tol);
}

TEST(Curve3, CollinearKeysGiveTheLineAlsoBeyondTheEnds) {
  Spline s;
  for (int i = 0; i < 4; ++i) s.AddKey(vec3(1.0f * i, 2.0f * i, -1.0f * i), static_cast<float>(i));
  for (float t : {-1.5f, 0.0f, 0.4f, 1.5f, 3.0f, 4.5f}) {
    ExpectNear(s.GetPosition(t), vec3(t, 2 * t, -t), 1e-4f);
    ExpectNear(s.GetDerivative(t), vec3(1, 2, -1), 1e-4f);
    ExpectNear(s.GetSecondDerivative(t), vec3(0, 0, 0), 1e-4f);
  }
  EXPECT_FALSE(s.IsEnd(2.9f));
  EXPECT_TRUE(s.IsEnd(3.0f));

  // Clamped: the first key below the start, with the derivative it has there.
  s.SetMode(1);
  ExpectNear(s.GetPosition(-2.0f), vec3(0, 0, 0), 1e-6f);
  ExpectNear(s.GetDerivative(-2.0f), s.GetDerivative(0.0f), 1e-6f);
}

TEST(Curve3, SegmentSearchMatchesABruteForceSearch) {
  vek::curve<vec3> c;
  const float params[] = {0, 1, 2};
  for (float p : params) c.AddKey(vec3(p, 0, 0), p);
  EXPECT_EQ(c.FindSegment(-1.0f), 0);
  EXPECT_EQ(c.FindSegment(0.5f), 1);
  EXPECT_EQ(c.FindSegment(1.0f), 1);
  EXPECT_EQ(c.FindSegment(5.0f), 3);
  vek::curve<vec3> d;
  for (int i = 0; i < 9; ++i) d.AddKey(vec3(), static_cast<float>((i * 5) % 7));
  for (int q = 0; q < 200; ++q) {
    const float t = static_cast<float>((q * 37) % 23) * 0.4f - 1.0f;
    const auto& p = d.GetParams();
    const int brute = static_cast<int>(std::count_if(p.begin(), p.end(), [t](float x) { return x < t; }));
    ASSERT_EQ(d.FindSegment(t), brute) << t;
  }
}

TEST(Curve3, ClosedWrapAndDegenerateCurves) {
  Spline s;
  s.AddKey(vec3(0, 0, 0), 0);
  s.AddKey(vec3(4, 0, 0), 1);
  s.AddKey(vec3(4, 4, 2), 2);
  s.SetMode(2);
  s.SetClosingSpan(1.0f);
  const vec3 p = s.GetPosition(2.5f);  // on the way from the last key back to the first
  EXPECT_GT(p.x, 0.0f);
  EXPECT_LT(p.x, 4.0f);
  EXPECT_FALSE(s.IsEnd(100.0f));
  EXPECT_EQ(s.GetClosingSpan(), 1.0f);
  s.SetMode(0);
  EXPECT_EQ(s.GetClosingSpan(), 0.0f);

  Spline none;
  EXPECT_EQ(none.GetPosition(1.0f), vec3());
  EXPECT_EQ(none.GetDerivative(1.0f), vec3());
  none.RemoveKey(3);  // no key: nothing to remove
  Spline one;
  one.AddKey(vec3(1, 2, 3), 5.0f);
  EXPECT_EQ(one.GetPosition(0.0f), vec3(1, 2, 3));
  EXPECT_EQ(one.GetDerivative(9.0f), vec3());
  EXPECT_EQ(one.GetSecondDerivative(9.0f), vec3());
  Spline same;  // equal parameters: no division by zero
  same.AddKey(vec3(0, 0, 0), 1.0f);
  same.AddKey(vec3(1, 0, 0), 1.0f);
  const vec3 d = same.GetDerivative(1.0f);
  EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.y) && std::isfinite(d.z));

  vec3 tiny(0, 0, 1e-8f);
  EXPECT_EQ(tiny.Normalize(), vec3(0, 0, 0));
}

class Managers : public vektest::EngineFixture {
 protected:
  void TearDown() override {
    vek::DestroyMeshManager();
    vek::DestroySceneManager();
    vek::DestroyMaterialManager();
    EngineFixture::TearDown();
  }
};

TEST_F(Managers, CreateHoldTheDefaultsAndDestroyLogs) {
  vek::CreateMaterialManager();
  vek::CreateSceneManager();
  vek::CreateMeshManager();
  for (const vek::string& name : {vek::MaterialManager()->Get(0)->name, vek::MeshManager()->Get(0)->name,
                                  vek::SceneManager()->Get(0)->name}) {
    EXPECT_EQ(name, "unnamed");
  }
  EXPECT_EQ(vek::MaterialManager()->Count(), 1u);
  EXPECT_EQ(vek::MeshManager()->Count(), 1u);
  // The one reserved slot is taken: another reserved record is appended.
  vek::cMesh* second = new vek::cMesh("second", true);
  EXPECT_EQ(second->handle, 1u);

  vek::cScene* scene = vek::SceneManager()->Get(0);
  ASSERT_EQ(scene->cameras.size(), 1u);
  ASSERT_EQ(scene->lights.size(), 1u);
  EXPECT_TRUE(scene->lightFlags[0]);
  EXPECT_EQ(scene->lights[0].values[5], 15.0f);
  EXPECT_EQ(scene->cameraAnimation.GetCount(), 0);

  vek::CreateMaterialManager();
  vek::CreateMeshManager();
  vek::CreateSceneManager();
  vek::DestroyMeshManager();
  vek::DestroySceneManager();
  vek::DestroyMaterialManager();
  vek::DestroyMaterialManager();  // no manager: still "Ok"
  EXPECT_EQ(vek::MaterialManager(), nullptr);
  const std::string log = LogText();
  for (const char* sender : {"CreateMaterialManager", "CreateMeshManager", "CreateSceneManager",
                             "DestroyMeshManager", "DestroySceneManager", "DestroyMaterialManager"})
    EXPECT_NE(log.find(sender), std::string::npos) << sender;
  EXPECT_NE(log.find("Already exist"), std::string::npos);
}

TEST(Camera, DefaultViewPathsAndDegenerateFrames) {
  vek::cCamera camera;
  EXPECT_EQ(camera.GetLength(), 0.0f);
  const vek::mat4 view = camera.GetViewMatrix(0.0f);
  const vek::mat4 expected = {1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1};
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(view[i], expected[i], 1e-6f) << i;

  camera.eyePath.AddKey(vec3(0, -5, 0), 0.0f);
  camera.eyePath.AddKey(vec3(0, -6, 0), 2.0f);
  camera.targetPath.AddKey(vec3(0, 0, 0), 3.5f);
  camera.upPath.AddKey(vec3(0, 0, 1), 1.0f);
  EXPECT_EQ(camera.GetLength(), 3.5f);
  camera.GetViewMatrix(-1.0f);  // a negative time keeps the frame
  EXPECT_EQ(camera.position, vec3(0, 0, 0));
  camera.GetViewMatrix(0.0f);
  ExpectNear(camera.position, vec3(0, -5, 0), 1e-6f);
  ExpectNear(camera.forward, vec3(0, 1, 0), 1e-6f);

  vek::cScene scene("s", false);  // no manager: not registered
  const vek::u32 second = scene.AddCamera(camera);
  EXPECT_EQ(second, 1u);
  EXPECT_EQ(scene.currentCamera, 0u);  // the second camera does not become current
  scene.cameras[1].name = "path";
  scene.SetCurrentCamera("path");
  EXPECT_EQ(scene.cameraAnimation.GetCount(), 105);
  scene.SetCurrentCamera("none");
  EXPECT_EQ(scene.currentCamera, 0u);

  vek::cCamera still;
  still.SetFrame(vec3(1, 1, 1), vec3(1, 1, 1), vec3(0, 0, 1));
  EXPECT_EQ(still.forward, vec3());
  EXPECT_EQ(still.right, vec3());
  EXPECT_EQ(still.up, vec3());
}

}  // namespace
