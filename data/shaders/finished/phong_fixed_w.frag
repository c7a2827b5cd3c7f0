// Phong shading of light 0 with the fixed-function material, modulating the
// colour texture on unit 0 (white where none is bound).
#version 120

uniform sampler2D colour_map;
varying vec3 eye_position;
varying vec3 eye_normal;

void main() {
  vec3 n = normalize(eye_normal);
  if (!gl_FrontFacing) n = -n;
  vec3 to_light = gl_LightSource[0].position.w == 0.0
                      ? normalize(gl_LightSource[0].position.xyz)
                      : normalize(gl_LightSource[0].position.xyz - eye_position);
  vec3 to_eye = normalize(-eye_position);
  vec3 reflected = reflect(-to_light, n);
  float diffuse = max(dot(n, to_light), 0.0);
  float specular = diffuse > 0.0
      ? pow(max(dot(reflected, to_eye), 0.0), max(gl_FrontMaterial.shininess, 1.0))
      : 0.0;
  vec4 texel = texture2D(colour_map, gl_TexCoord[0].st);
  vec4 lit = gl_FrontLightProduct[0].ambient + gl_FrontLightModelProduct.sceneColor +
             gl_FrontLightProduct[0].diffuse * diffuse;
  gl_FragColor = vec4(lit.rgb * texel.rgb + gl_FrontLightProduct[0].specular.rgb * specular,
                      texel.a);
}
