// Visibility and activation.
builder.CreateFile('xlsx');

// case: hide, very hide and show
var b = Api.AddSheet('B'); b.SetVisible(false); same(b.GetVisible(), false); same(b.GetVisibility(), 'hidden');
same(Api.GetActiveSheet().GetName(), 'Sheet1');
b.SetVisibility('VeryHidden'); same(b.GetVisibility(), 'veryHidden');
b.SetVisibility('visible'); b.SetActive(); same(Api.GetActiveSheet().GetName(), 'B');

// case: a hidden sheet cannot be activated
var b = Api.AddSheet('B'); b.SetVisible(false); throwsWith(function () { b.SetActive(); }, 'is hidden');

// case: the last visible sheet cannot hide
throwsWith(function () { Api.GetActiveSheet().SetVisibility('hidden'); }, 'only visible sheet');
same(Api.GetActiveSheet().GetVisible(), true);

// case: wrong words and kinds
throwsWith(function () { Api.GetActiveSheet().SetVisibility('gone'); }, 'visible, hidden, veryHidden');
throwsWith(function () { Api.GetActiveSheet().SetVisible('no'); }, 'must be a boolean');
throwsWith(function () { Api.GetActiveSheet().SetActive(1); }, 'takes 0 arguments, not 1');
