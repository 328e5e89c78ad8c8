# The example script draws a contour plot into a PNG.
import os
import subprocess
import sys

import matplotlib.image

from conftest import EXAMPLES


def test_efficiency_contour_writes_a_picture(tmp_path):
    png = tmp_path / "eff.png"
    script = os.path.join(EXAMPLES, "python", "efficiency_contour.py")
    subprocess.run([sys.executable, script, str(png)], check=True)
    pixels = matplotlib.image.imread(png)
    assert pixels.shape[0] > 100 and pixels.std() > 0.05
