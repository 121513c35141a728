// A script client of the chart: late binding by name only, as a scripting host does it.
// Prints one line per check; the test compares them.
var chart = new ActiveXObject("norvctrl2.ChartView.1");

function attempt(name, action) {
    try {
        var result = action();
        WScript.Echo(name + " ok" + (result === undefined ? "" : " " + result));
    } catch (e) {
        WScript.Echo(name + " error " + (e.number >>> 0).toString(16));
    }
}

attempt("title", function () { chart.Title = "Pressure, kPa"; return chart.Title; });
attempt("span", function () { return chart.GetSpan(); });
attempt("precision", function () { chart.Precision(2); });
attempt("precision-text", function () { chart.Precision("3"); });
attempt("precision-word", function () { chart.Precision("abc"); });
attempt("add", function () { chart.Add(12.5); chart.Add(7); chart.Add("text"); });
attempt("setspan", function () { chart.SetSpan("70"); return chart.GetSpan(); });
attempt("gradient", function () { chart.GradientColor(0, 0, 255); });
attempt("timer", function () { chart.SetTimer(50); chart.SetTimer(0); });
attempt("draw", function () { chart.Draw(); });
