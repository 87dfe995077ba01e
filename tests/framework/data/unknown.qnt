<Quillnote FormatVersion="1.1">
	<Note Text="x" Extra="1"/>
	<Foo a="1">
		<Bar/>
	</Foo>
</Quillnote>
