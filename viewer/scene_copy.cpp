#include "viewer/scene_copy.h"

#include <GL/glew.h>

void SceneCopy::Capture(int width, int height) {
  valid_ = false;
  if (width <= 0 || height <= 0) return;
  if (!texture_) glGenTextures(1, &texture_);
  glBindTexture(GL_TEXTURE_2D, texture_);
  if (width != width_ || height != height_) {
    // Nearest texels drawn 1:1 give back the exact pixels.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    width_ = width;
    height_ = height;
  }
  // Errors of earlier calls would count as the copy's.
  while (glGetError() != GL_NO_ERROR) {
  }
  // The screenshot reads the front buffer and leaves it selected.
  glReadBuffer(GL_BACK);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
  glBindTexture(GL_TEXTURE_2D, 0);
  valid_ = glGetError() == GL_NO_ERROR;
}

bool SceneCopy::Restore(int width, int height) {
  if (!valid_ || width != width_ || height != height_) return false;
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TEXTURE_BIT | GL_DEPTH_BUFFER_BIT);
  glUseProgram(0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture_);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glColor4f(1, 1, 1, 1);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0), glVertex2f(-1, -1);
  glTexCoord2f(1, 0), glVertex2f(1, -1);
  glTexCoord2f(1, 1), glVertex2f(1, 1);
  glTexCoord2f(0, 1), glVertex2f(-1, 1);
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glBindTexture(GL_TEXTURE_2D, 0);
  glPopAttrib();
  return true;
}

void SceneCopy::Release() {
  if (texture_) glDeleteTextures(1, &texture_);
  texture_ = 0;
  width_ = height_ = 0;
  valid_ = false;
}
