// Per-pixel lighting with the fixed-function light 0 and material: the
// vertex stage passes the eye-space position and normal on.
#version 120

varying vec3 eye_position;
varying vec3 eye_normal;

void main() {
  eye_position = vec3(gl_ModelViewMatrix * gl_Vertex);
  eye_normal = normalize(gl_NormalMatrix * gl_Normal);
  gl_TexCoord[0] = gl_MultiTexCoord0;
  gl_Position = ftransform();
}
